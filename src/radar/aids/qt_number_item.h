#pragma once
// A table cell holding a whole number that sorts as a number, whatever its
// digits; an unknown one shows "--" and sorts before every number.
#include <QTableWidgetItem>
#include <cstdint>
#include <optional>

namespace tarnwick {

class NumberItem : public QTableWidgetItem {
   public:
    explicit NumberItem(std::optional<std::int32_t> value);
    bool operator<(const QTableWidgetItem& other) const override;
};

}  // namespace tarnwick
