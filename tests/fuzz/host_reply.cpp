// A download's reply blocks as the client reads them: the control area, the
// record width code and the record slots, laid out as a text file. The first
// byte picks the layout options, the rest is cut into 1024-character blocks.
#include "FuzzInput.h"
#include "ListRecords.h"
#include "SpoolDownload.h"
#include "TextLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t pick = data[0];
    TextLayoutOptions options;
    const ProcessCode codes[] = {ProcessCode::Text, ProcessCode::FullView, ProcessCode::Office, ProcessCode::AutoMail,
                                 ProcessCode::Other};
    options.code = codes[pick % 5];
    options.printControl = (pick & 0x08) != 0;
    options.fcfc = (pick & 0x10) != 0;
    options.removeBlank = (pick & 0x20) != 0;
    if (pick & 0x40) options.pageLength = 1 + (pick & 0x07) * 11;
    const std::vector<std::string> replies = fuzz::blocks(fuzz::bytes(data + 1, size - 1), 1024);
    options.width = RecordWidth(std::string_view(replies.front()).substr(1021, 3));
    size_t written = 0;
    TextLayout layout(options, [&written](std::string_view line) { written += line.size(); });
    for (const std::string& reply : replies) {
        const ListBlockEnd end = listBlockEnd(reply);
        const int width = RecordWidth(std::string_view(reply).substr(1021, 3));
        ForEachRecord(std::string_view(reply).substr(0, 1000), width, [&layout](const SpoolRecordSlot& slot) {
            (void)slot.skipLine();
            (void)slot.spacingLines();
            layout.record(slot);
        });
        if (end != ListBlockEnd::More) break;
    }
    layout.finish();
    return 0;
}
