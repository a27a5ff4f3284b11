// The request worker: the body of the thread that performs one fetch.
//
// It reads the request record from the exchange file, performs the HTTP
// request through the internet layer with the system's fixed header lines,
// reads the whole body and, each only when asked, keeps the raw header
// block, collects the response's cookies and stores them in the process
// cookie store; then it writes the result record. Before it sends anything
// it writes the progress record naming its three open handles, so that the
// fetch call can close them (which aborts the request) if it stops waiting.
//
// The worker never reports an error: the file's content says it all. It
// touches only the exchange file (by number), the handles it opens and the
// cookie store, so a worker whose fetch call has given up can do no harm;
// when it finds the file gone before it has named its handles there, it
// closes them itself. Runs on a fetch worker thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace fetch {

// Sent as the User-Agent header.
inline constexpr std::string_view kAgentText = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

// A body that grows beyond this aborts the request and the fetch yields
// the empty result: a broken or hostile server cannot exhaust memory.
inline constexpr size_t kMaxBodyBytes = 64u * 1024 * 1024;

// Performs the request described in exchange file `number`; see above.
// A file that is missing or whose record says not to proceed does nothing.
void fetchWorker(int32_t number);

}  // namespace fetch
