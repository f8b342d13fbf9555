#include <gtest/gtest.h>

#include <QCommandLineParser>
#include <functional>

#include "HostSimCommandLine.h"

// Every option of hostsim's spool server reaches the setting it names.
namespace {
struct Parsed {
    bool ok = false;
    QString error;
    HostSimOptions options;
};

Parsed parse(const QStringList& args) {
    QCommandLineParser parser;
    HostSimCommandLine line;
    line.addOptions(parser);
    Parsed out;
    if (!parser.parse(QStringList{QStringLiteral("hostsim")} + args)) {
        out.error = parser.errorText();
        return out;
    }
    out.ok = line.read(parser, out.options, &out.error);
    return out;
}

TEST(HostSimCommandLine, EveryOptionSetsItsKnob) {
    struct Case {
        QStringList args;
        std::function<bool(const HostSimOptions&)> holds;
    };
    const Case cases[] = {
        {{"--address", "127.0.0.7"}, [](const HostSimOptions& o) { return o.address == "127.0.0.7"; }},
        {{"--user", "ANN", "--password", "secret"},
         [](const HostSimOptions& o) { return o.user == "ANN" && o.password == "secret"; }},
        {{"--any-user"}, [](const HostSimOptions& o) { return o.acceptAnyUser; }},
        {{"--listener-port", "27850"}, [](const HostSimOptions& o) { return o.listenerPort == 27850; }},
        {{"--job-ports", "20000-20009"},
         [](const HostSimOptions& o) { return o.firstJobPort == 20000 && o.lastJobPort == 20009; }},
        {{"--no-listener"}, [](const HostSimOptions& o) { return !o.listen; }},
        {{"--preview-pages", "2"}, [](const HostSimOptions& o) { return o.previewPages == 2; }},
        {{"--frame-log", "/tmp/frames.log"}, [](const HostSimOptions& o) { return o.frameLogFile == "/tmp/frames.log"; }},
        {{"--refuse-signon"}, [](const HostSimOptions& o) { return o.faults.refuseSignOn; }},
        {{"--silent-signon"}, [](const HostSimOptions& o) { return o.faults.silentSignOn; }},
        {{"--bad-job-port", "18051"}, [](const HostSimOptions& o) { return o.faults.jobPortReply == 18051; }},
        {{"--version-letter", "e"}, [](const HostSimOptions& o) { return o.faults.versionLetter == 'e'; }},
        {{"--late-job-port", "9000"}, [](const HostSimOptions& o) { return o.faults.lateJobPortMs == 9000; }},
        {{"--delay", "1500"}, [](const HostSimOptions& o) { return o.faults.replyDelayMs == 1500; }},
        {{"--split", "7", "--split-gap", "3"},
         [](const HostSimOptions& o) { return o.faults.pieceBytes == 7 && o.faults.pieceGapMs == 3; }},
        {{"--byte-every", "200"}, [](const HostSimOptions& o) { return o.faults.byteEveryMs == 200; }},
        {{"--silent-after", "2"}, [](const HostSimOptions& o) { return o.faults.silentAfter == 2; }},
        {{"--drop-after", "1", "--drop-partial", "500"},
         [](const HostSimOptions& o) { return o.faults.dropAfter == 1 && o.faults.dropPartialBytes == 500; }},
        {{"--endless-more"}, [](const HostSimOptions& o) { return o.faults.endlessMore; }},
        {{"--width-code", " 81"}, [](const HostSimOptions& o) { return o.faults.widthCode == " 81"; }},
        {{"--invalid-after", "3"}, [](const HostSimOptions& o) { return o.faults.invalidAfterBlocks == 3; }},
    };
    for (const Case& c : cases) {
        const Parsed p = parse(c.args);
        ASSERT_TRUE(p.ok) << c.args.join(' ').toStdString() << ": " << p.error.toStdString();
        EXPECT_TRUE(c.holds(p.options)) << c.args.join(' ').toStdString();
    }
}

TEST(HostSimCommandLine, NoOptionLeavesEveryKnobOff) {
    const Parsed p = parse({});
    ASSERT_TRUE(p.ok) << p.error.toStdString();
    const HostSimFaults& f = p.options.faults;
    EXPECT_EQ(p.options.address, "127.0.0.1");
    EXPECT_EQ(p.options.listenerPort, 17850);
    EXPECT_EQ(p.options.firstJobPort, 17851);
    EXPECT_EQ(p.options.lastJobPort, 18050);
    EXPECT_TRUE(p.options.listen);
    EXPECT_FALSE(f.refuseSignOn || f.silentSignOn || f.jobPortReply.has_value() || f.endlessMore);
    EXPECT_EQ(f.versionLetter, 'E');
    EXPECT_EQ(f.lateJobPortMs + f.replyDelayMs + f.pieceBytes + f.byteEveryMs, 0);
    EXPECT_EQ(f.silentAfter, -1);
    EXPECT_EQ(f.dropAfter, -1);
    EXPECT_EQ(f.invalidAfterBlocks, -1);
    EXPECT_TRUE(f.widthCode.empty());
}

TEST(HostSimCommandLine, BadValuesAreRefusedWithTheOptionsName) {
    const std::pair<QStringList, const char*> cases[] = {
        {{"--split", "0"}, "--split"},
        {{"--delay", "soon"}, "--delay"},
        {{"--drop-partial", "2000"}, "--drop-partial"},
        {{"--listener-port", "70000"}, "--listener-port"},
        {{"--job-ports", "18050"}, "--job-ports"},
        {{"--version-letter", "EE"}, "--version-letter"},
        {{"--width-code", "81"}, "--width-code"},
        {{"--bad-job-port", "-1"}, "--bad-job-port"},
        {{"--open-job-port", "83387"}, "--open-job-port"},  // would have opened 17851
    };
    for (const auto& [args, name] : cases) {
        const Parsed p = parse(args);
        EXPECT_FALSE(p.ok) << args.join(' ').toStdString();
        EXPECT_TRUE(p.error.contains(QLatin1String(name))) << p.error.toStdString();
    }
}
}  // namespace
