#pragma once
#include "Automation.h"

// Typed facades over the automation objects of the mail programs.

class NotesUIDocument {
public:
    explicit NotesUIDocument(std::shared_ptr<AutomationObject> doc) : doc_(std::move(doc)) {}
    AutomationObject& object() { return *doc_; }
    void fieldAppendText(const QString& field, const QString& text) {
        doc_->call(QStringLiteral("FieldAppendText"), {field, text});
    }

private:
    std::shared_ptr<AutomationObject> doc_;
};

class NotesSession {
public:
    static constexpr const char* kProgId = "Notes.NotesSession";
    static constexpr int kNotSignedOn = 7063;
    explicit NotesSession(std::shared_ptr<AutomationObject> session) : s_(std::move(session)) {}
    AutomationObject& object() { return *s_; }
    // A system variable of the Notes client ("MailServer", "MailFile").
    QString environmentString(const QString& name) {
        return s_->call(QStringLiteral("GETENVIRONMENTSTRING"), {name, true}).toString();
    }
    QString version() { return s_->get(QStringLiteral("NOTESVERSION")).toString(); }

private:
    std::shared_ptr<AutomationObject> s_;
};

class NotesUIWorkspace {
public:
    static constexpr const char* kProgId = "Notes.NotesUIWorkspace";
    explicit NotesUIWorkspace(std::shared_ptr<AutomationObject> ws) : ws_(std::move(ws)) {}
    AutomationObject& object() { return *ws_; }
    void openMailDatabase(const QString& server, const QString& mailFile) {
        ws_->call(QStringLiteral("OpenDatabase"), {server, mailFile, QStringLiteral("($Inbox)"), QString(), false, false});
    }
    NotesUIDocument composeMemo(const QString& server, const QString& mailFile) {
        return NotesUIDocument(ws_->object(QStringLiteral("ComposeDocument"), {server, mailFile, QStringLiteral("Memo")}));
    }

private:
    std::shared_ptr<AutomationObject> ws_;
};

class OutlookMailItem {
public:
    explicit OutlookMailItem(std::shared_ptr<AutomationObject> item) : item_(std::move(item)) {}
    AutomationObject& object() { return *item_; }
    void display() { item_->call(QStringLiteral("Display")); }
    void attach(const QString& file) { item_->call(QStringLiteral("Attachments.Add"), {file}); }
    void addRecipient(const QString& address) { item_->call(QStringLiteral("Recipients.Add"), {address}); }
    void setSubject(const QString& subject) { item_->set(QStringLiteral("Subject"), subject); }
    void setBody(const QString& body) { item_->set(QStringLiteral("Body"), body); }
    void send() { item_->call(QStringLiteral("Send")); }

private:
    std::shared_ptr<AutomationObject> item_;
};

class OutlookApplication {
public:
    static constexpr const char* kProgId = "Outlook.application";
    explicit OutlookApplication(std::shared_ptr<AutomationObject> app) : app_(std::move(app)) {}
    AutomationObject& object() { return *app_; }
    OutlookMailItem createMailItem() { return OutlookMailItem(app_->object(QStringLiteral("CreateItem"), {0})); }

private:
    std::shared_ptr<AutomationObject> app_;
};
