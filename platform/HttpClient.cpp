#include "platform/HttpClient.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace norvane::platform {

namespace {

// A larger answer than any document of the benchmark protocol is refused rather than buffered.
constexpr std::size_t largestBody = 8 * 1024 * 1024;

struct Transfer {
    std::string body;
    const std::atomic<bool>* cancelled;
};

std::size_t collectBody(char* data, std::size_t size, std::size_t count, void* context) {
    auto* transfer = static_cast<Transfer*>(context);
    const std::size_t bytes = size * count;
    if (transfer->body.size() + bytes > largestBody) {
        return 0;
    }
    transfer->body.append(data, bytes);
    return bytes;
}

int checkCancelled(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Transfer*>(context)->cancelled->load() ? 1 : 0;
}

using EasyHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

void append(HeaderList& list, const char* line) {
    curl_slist* extended = curl_slist_append(list.get(), line);
    if (extended == nullptr) {
        throw HttpTransportError("Out of memory while building the request");
    }
    static_cast<void>(list.release());
    list.reset(extended);
}

HeaderList makeHeaders(const std::vector<std::string>& lines) {
    HeaderList list(nullptr, &curl_slist_free_all);
    for (const auto& line : lines) {
        append(list, line.c_str());
    }
    // Keep libcurl from adding "Expect: 100-continue" to larger bodies.
    append(list, "Expect:");
    return list;
}

void configure(CURL* handle, const HttpRequest& request, const curl_slist* headers, Transfer& transfer) {
    curl_easy_setopt(handle, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(request.timeout.count()));
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &collectBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &checkCancelled);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
    if (request.method == "POST") {
        curl_easy_setopt(handle, CURLOPT_POSTFIELDS, request.body.data());
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    } else if (request.method != "GET") {
        curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    }
}

} // namespace

HttpClient::HttpClient() {
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

HttpResponse HttpClient::perform(const HttpRequest& request) const {
    if (cancelled_) {
        throw HttpTransportError("The request was cancelled");
    }
    EasyHandle handle(curl_easy_init(), &curl_easy_cleanup);
    if (!handle) {
        throw HttpTransportError("Could not start a request");
    }
    const HeaderList headers = makeHeaders(request.headers);
    Transfer transfer{.body = {}, .cancelled = &cancelled_};
    configure(handle.get(), request, headers.get(), transfer);
    const CURLcode code = curl_easy_perform(handle.get());
    if (code != CURLE_OK) {
        throw HttpTransportError(code == CURLE_ABORTED_BY_CALLBACK ? "The request was cancelled"
                                                                   : curl_easy_strerror(code));
    }
    HttpResponse response;
    curl_easy_getinfo(handle.get(), CURLINFO_RESPONSE_CODE, &response.status);
    response.body = std::move(transfer.body);
    return response;
}

std::string HttpClient::escapePathSegment(std::string_view segment) {
    static constexpr char digits[] = "0123456789ABCDEF";
    // "." and ".." would be read as steps within the path, not as a name.
    const bool onlyDots = segment == "." || segment == "..";
    std::string escaped;
    for (const char character : segment) {
        const auto byte = static_cast<unsigned char>(character);
        const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                                (byte >= '0' && byte <= '9') || byte == '-' || (byte == '.' && !onlyDots) ||
                                byte == '_' || byte == '~';
        if (unreserved) {
            escaped += character;
        } else {
            escaped += '%';
            escaped += digits[byte >> 4];
            escaped += digits[byte & 0x0F];
        }
    }
    return escaped;
}

} // namespace norvane::platform
