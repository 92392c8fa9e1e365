#include "radar/aids/qt_number_item.h"

#include <QString>
#include <limits>

namespace tarnwick {
namespace {

constexpr int kSortRole = Qt::UserRole + 2;

}  // namespace

NumberItem::NumberItem(std::optional<std::int32_t> value)
    : QTableWidgetItem(value ? QString::number(*value) : QString("--")) {
    setData(kSortRole, value ? static_cast<double>(*value) : -std::numeric_limits<double>::infinity());
    setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

bool NumberItem::operator<(const QTableWidgetItem& other) const {
    return data(kSortRole).toDouble() < other.data(kSortRole).toDouble();
}

}  // namespace tarnwick
