#include "Norvane/state/CollectionWorker.h"

namespace norvane::app {

CollectionWorker::CollectionWorker() {
    pool_.setMaxThreadCount(1);
    pool_.setExpiryTimeout(-1);
    pool_.setObjectName(QStringLiteral("collection"));
}

CollectionWorker::~CollectionWorker() { waitForDone(); }

void CollectionWorker::run(std::function<void()> job) { pool_.start(std::move(job)); }

void CollectionWorker::waitForDone() { pool_.waitForDone(); }

} // namespace norvane::app
