#pragma once
#include <QStringList>
#include <memory>
#include <vector>

#include "DocumentModel.h"
#include "LocalDde.h"
#include "OfficeStandIns.h"

// The word processor of the "Winword|System" conversation: WordBasic
// FileOpen opens a text file (a line holding only the page-break mark becomes
// a page break, in a monospaced font), ToolsMacro and templates are refused
// (no macros here). When a conversation ends, the documents it opened are
// shown to the user as .odt files.
class WordBasicStandIn {
public:
    explicit WordBasicStandIn(StandInDesk desk) : desk_(std::move(desk)) {}
    LocalDdeServer::Conversation conversation();
    // Throws AutomationError for a command it refuses.
    void execute(const QString& command);
    // Shows the documents opened since the last call; the copies written for them.
    QStringList showNewDocuments();
    const std::vector<std::shared_ptr<TextDocumentModel>>& documents() const { return docs_; }

private:
    StandInDesk desk_;
    std::vector<std::shared_ptr<TextDocumentModel>> docs_;
};
