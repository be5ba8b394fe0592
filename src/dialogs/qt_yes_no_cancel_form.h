#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace marlume::dialogs {

// The three-button question dialog, filled in and read by AskYesNoCancel. Its Tag
// carries the default-focus code in and the answer code out; activation presets the
// answer to -1, which is what closing from the frame (or Escape) leaves.
class YesNoCancelForm final : public QDialog {
    Q_OBJECT

public:
    // Takes the main window's caption when it loads and stays above that window; may be null.
    explicit YesNoCancelForm(QWidget* mainWindow);

    [[nodiscard]] const QString& Tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    [[nodiscard]] QLabel* WarningIcon() const { return m_warningIcon; }
    [[nodiscard]] QLabel* InfoIcon() const { return m_infoIcon; }
    [[nodiscard]] QPushButton* NoButton() const { return m_noButton; }
    [[nodiscard]] QPushButton* YesButton() const { return m_yesButton; }
    [[nodiscard]] QPushButton* Cancel_Button() const { return m_cancelButton; }
    [[nodiscard]] QLabel* QuestionIcon() const { return m_questionIcon; }
    [[nodiscard]] QLabel* Question_text() const { return m_questionText; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load(QWidget* mainWindow);
    void Form_Activate();
    // A typed character, offered to the buttons' accelerators before the focused control
    // sees it; set to 0 when it pressed a button.
    void Form_KeyPress(int& key);
    void LayoutDialog();
    void YesButton_Click();
    void NoButton_Click();
    void Cancel_Button_Click();
    void answer(int code);
    [[nodiscard]] QPushButton* buttonFor(int code) const;

    QString m_tag;
    int m_defaultButton = 0;
    QLabel* m_warningIcon;
    QLabel* m_infoIcon;
    QPushButton* m_noButton;
    QPushButton* m_yesButton;
    QPushButton* m_cancelButton;
    QLabel* m_questionIcon;
    QLabel* m_questionText;
};

} // namespace marlume::dialogs
