#include "tests/support/CapturedStandardError.h"

#include <fcntl.h>
#include <unistd.h>

namespace norvane::testing {

CapturedStandardError::CapturedStandardError()
    : file_(folder_.path() / "stderr"), saved_(::dup(STDERR_FILENO)),
      captured_(::open(file_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)) {
    ::dup2(captured_, STDERR_FILENO);
}

CapturedStandardError::~CapturedStandardError() {
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
    ::close(captured_);
}

} // namespace norvane::testing
