#pragma once

#include <QLabel>
#include <QStringList>

namespace marlume::app {

// A status bar field that never runs past its room: its first text is shortened in the middle to the width
// the layout gives it, the texts after it follow while they fit whole, and the tooltip holds every text
// whole, one a line. It asks for the room of its first text and is fitted again at every resize.
class ElidedLabel final : public QLabel {
public:
    explicit ElidedLabel(QWidget* parent);

    void setTexts(const QStringList& texts);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    [[nodiscard]] QSize sizeFor(const QString& text) const;
    void fit();

    QStringList m_texts;
};

} // namespace marlume::app
