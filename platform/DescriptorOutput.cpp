#include "platform/DescriptorOutput.h"

#include <cerrno>
#include <cstring>

#include <poll.h>
#include <unistd.h>

namespace norvane::platform {

DescriptorOutput::Buffer::Buffer(int descriptor) : descriptor_(descriptor) {
    setp(bytes_.data(), bytes_.data() + bytes_.size());
}

DescriptorOutput::Buffer::int_type DescriptorOutput::Buffer::overflow(int_type character) {
    if (!drain()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(character, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(character);
        pbump(1);
    }
    return traits_type::not_eof(character);
}

int DescriptorOutput::Buffer::sync() { return drain() ? 0 : -1; }

bool DescriptorOutput::Buffer::drain() {
    const char* next = pbase();
    const char* const end = pptr();
    while (!failure_ && next < end) {
        const ssize_t written = ::write(descriptor_, next, static_cast<std::size_t>(end - next));
        if (written >= 0) {
            next += written;
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            // A descriptor that another program made non-blocking: wait until it takes more.
            pollfd ready{descriptor_, POLLOUT, 0};
            ::poll(&ready, 1, -1);
        } else if (errno != EINTR) {
            failure_ = std::strerror(errno);
        }
    }
    // What could not be written is dropped: the output is cut from here on.
    setp(bytes_.data(), bytes_.data() + bytes_.size());
    return !failure_;
}

DescriptorOutput::DescriptorOutput(int descriptor) : std::ostream(nullptr), buffer_(descriptor) { rdbuf(&buffer_); }

DescriptorOutput::~DescriptorOutput() { flush(); }

} // namespace norvane::platform
