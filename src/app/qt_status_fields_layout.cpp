#include "app/qt_status_fields_layout.h"

#include "app/fair_shares.h"

#include <QWidget>

#include <algorithm>
#include <numeric>
#include <vector>

namespace marlume::app {

namespace {

constexpr int kSpacing = 12; // twice QStatusBar's own, as the fields have no frames to part them
constexpr int kRightMargin = 2; // as QStatusBar keeps at the left

} // namespace

StatusFieldsLayout::StatusFieldsLayout(QWidget* parent)
    : QLayout(parent)
{
    setContentsMargins(0, 0, kRightMargin, 0);
    setSpacing(kSpacing);
}

StatusFieldsLayout::~StatusFieldsLayout()
{
    qDeleteAll(m_items);
}

void StatusFieldsLayout::addItem(QLayoutItem* item)
{
    m_items.append(item);
}

QLayoutItem* StatusFieldsLayout::takeAt(int index)
{
    return index >= 0 && index < m_items.size() ? m_items.takeAt(index) : nullptr;
}

QList<QLayoutItem*> StatusFieldsLayout::shownItems() const
{
    QList<QLayoutItem*> shown;
    std::copy_if(m_items.begin(), m_items.end(), std::back_inserter(shown),
        [](const QLayoutItem* item) { return !item->isEmpty(); });
    return shown;
}

QSize StatusFieldsLayout::sizeHint() const
{
    const QList<QLayoutItem*> shown = shownItems();
    QSize size(spacing() * std::max(0, static_cast<int>(shown.size()) - 1), 0);
    for (const QLayoutItem* item : shown) {
        size.rwidth() += item->sizeHint().width();
        size.rheight() = std::max(size.height(), item->sizeHint().height());
    }
    return size.grownBy(contentsMargins());
}

QSize StatusFieldsLayout::minimumSize() const
{
    int height = 0;
    for (const QLayoutItem* item : shownItems())
        height = std::max(height, item->minimumSize().height());
    return QSize(0, height).grownBy(contentsMargins());
}

void StatusFieldsLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    const QList<QLayoutItem*> shown = shownItems();
    if (shown.isEmpty())
        return;
    const QRect inside = contentsRect();
    const int room = inside.width() - spacing() * static_cast<int>(shown.size() - 1);
    std::vector<int> wanted;
    for (const QLayoutItem* item : shown)
        wanted.push_back(item->sizeHint().width());
    std::vector<int> widths = fairShares(wanted, room);
    widths.front() += std::max(0, room - std::accumulate(widths.begin(), widths.end(), 0));
    int left = inside.left();
    for (qsizetype field = 0; field < shown.size(); ++field) {
        const int width = widths[static_cast<std::size_t>(field)];
        shown[field]->setGeometry(QRect(left, inside.top(), width, inside.height()));
        left += width + spacing();
    }
}

} // namespace marlume::app
