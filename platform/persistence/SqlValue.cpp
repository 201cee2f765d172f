#include "platform/persistence/SqlValue.h"

#include <algorithm>

namespace norvane::platform {
namespace {

int storageRank(const SqlValue& value) {
    switch (value.index()) {
    case 0: return 0;
    case 1:
    case 2: return 1;
    case 3: return 2;
    default: return 3;
    }
}

double numeric(const SqlValue& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) return static_cast<double>(*integer);
    return std::get<double>(value);
}

template <typename T>
int threeWay(const T& left, const T& right) {
    return left < right ? -1 : (right < left ? 1 : 0);
}

} // namespace

int compareSqlValues(const SqlValue& left, const SqlValue& right) {
    const int leftRank = storageRank(left);
    const int rightRank = storageRank(right);
    if (leftRank != rightRank) return leftRank < rightRank ? -1 : 1;
    switch (leftRank) {
    case 0: return 0;
    case 1:
        if (left.index() == 1 && right.index() == 1) {
            return threeWay(std::get<std::int64_t>(left), std::get<std::int64_t>(right));
        }
        return threeWay(numeric(left), numeric(right));
    case 2: return threeWay(std::get<std::string>(left), std::get<std::string>(right));
    default: return threeWay(std::get<Blob>(left), std::get<Blob>(right));
    }
}

} // namespace norvane::platform
