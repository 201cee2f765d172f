#include "Norvane/pages/PortfolioServices.h"

#include "Norvane/state/KitServices.h"

namespace norvane::app {

PortfolioServices PortfolioServices::standard(NorvaneStore store) {
    return {std::move(store), std::make_shared<SharedIndexClient>()};
}

} // namespace norvane::app
