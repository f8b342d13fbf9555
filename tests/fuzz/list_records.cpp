// The two host lists' reply blocks as the client reads them: output-queue rows
// and the library of a queue check, spooled-file entries and why a download
// request could not name one.
#include "FuzzInput.h"
#include "ListRecords.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const std::string& reply : fuzz::blocks(fuzz::bytes(data, size), 1024)) {
        (void)listBlockEnd(reply);
        (void)outqListRows(reply);
        (void)outqCheckLibrary(reply);
        for (const SpoolListEntry& e : spoolListEntries(reply)) (void)e.refusal();
        (void)SpoolListSlot::pagesText(reply.substr(0, 6));
    }
    return 0;
}
