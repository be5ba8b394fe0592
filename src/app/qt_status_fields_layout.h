#pragma once

#include <QLayout>
#include <QList>

namespace marlume::app {

// The status bar's fields side by side at the full height: each as wide as its fair share of the room
// (see fairShares), from the width its size hint asks for; the first takes whatever is left over, so the
// others stand at the right end.
class StatusFieldsLayout final : public QLayout {
public:
    explicit StatusFieldsLayout(QWidget* parent);
    ~StatusFieldsLayout() override;
    StatusFieldsLayout(const StatusFieldsLayout&) = delete;
    StatusFieldsLayout& operator=(const StatusFieldsLayout&) = delete;

    void addItem(QLayoutItem* item) override;
    [[nodiscard]] int count() const override { return static_cast<int>(m_items.size()); }
    [[nodiscard]] QLayoutItem* itemAt(int index) const override { return m_items.value(index); }
    [[nodiscard]] QLayoutItem* takeAt(int index) override;
    [[nodiscard]] Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    [[nodiscard]] QList<QLayoutItem*> shownItems() const;

    QList<QLayoutItem*> m_items;
};

} // namespace marlume::app
