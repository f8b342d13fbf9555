#include "Startup.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <exception>
#include <memory>
#include <stdexcept>

#include "AppContext.h"
#include "ConnectionWindows.h"
#include "MousePointer.h"
#include "SettingValues.h"
#include "frmMain.h"
#include "frmSplash.h"

namespace {
constexpr qint64 kSplashMs = 3000;

// A run-time error of start-up, with the number and text its message shows.
struct StartupError {
    int number;
    QString description;
};

QString errorText(const StartupError& e, int step) {
    // The runtime's Str$: a blank in front of a positive number, the sign of a negative one.
    const QString number =
        e.number < 0 ? QString::number(e.number) : QLatin1Char(' ') + QString::number(e.number);
    return QStringLiteral("Error") + number + QLatin1Char(' ') + e.description +
           QStringLiteral(" at step ") + QString::number(step);
}

class Startup {
public:
    explicit Startup(AppContext& ctx) : ctx_(ctx) {}

    void run() {
        splash_ = std::make_unique<frmSplash>(ctx_);
        splash_->Form_Load();
        splash_->show();
        splash_->repaint();
        frmMain& m = ctx_.mainWindow();
        PointerGuard busy;
        ctx_.connection.gUserId = std::string(10, ' ');
        ctx_.connection.gPassword = std::string(128, ' ');

        step(3, [&] { readDefaults(m); });
        step(4, [&] { readSelection(m); });
        step(5, [&] { SeedFirstStart(ctx_.services, 5); });
        step(6, [&] { SeedFirstStart(ctx_.services, 6); });
        step(7, [&] {
            SeedFirstStart(ctx_.services, 7);
            m.setStatusPanel(QStringLiteral("Please specify a user, an outq or both.  "));
            m.lblStatus->setText(QStringLiteral("Not connected."));
        });
        step(8, [&] {
            // The splash's time on the screen (elapsed time, not a seconds field
            // that must come round to one value).
            ctx_.services.clock->waitMs(kSplashMs);
            readAutoConnect(m);
        });
        step(9, [&] {
            showMainWindow(m);
            if (m.itmAutoConnect->isChecked()) {
                if (!m.isNotConnected())
                    ctx_.services.msgBox(QStringLiteral("Already connected."));
                else
                    ctx_.upperWindows().autoConnect();
            }
        });
        busy.release();
        ctx_.services.clock->pumpOnce();
    }

private:
    // Runs one numbered stage. A run-time error is reported with its stage;
    // the window is then shown all the same, so that the program never runs
    // on with no window.
    template <class F>
    void step(int number, F&& body) {
        try {
            body();
            return;
        } catch (const ProgramEnd&) {
            throw;
        } catch (const StartupError& e) {
            fail(StartupError{e.number, e.description}, number);
        } catch (const SocketError& e) {
            fail(StartupError{e.number, QString::fromStdString(e.what())}, number);
        } catch (const std::exception& e) {
            fail(StartupError{5, QString::fromLocal8Bit(e.what())}, number);
        }
    }

    [[noreturn]] void fail(const StartupError& e, int number) {
        ctx_.services.msgBox(errorText(e, number));
        frmMain& m = ctx_.mainWindow();
        showMainWindow(m);
        throw Stopped{};
    }

    void readDefaults(frmMain& m) {
        const QString v = ctx_.services.getSetting(Setting::Defaults);
        if (!IsStored(v)) {
            m.itmSaveSettings->setChecked(true);
            return;
        }
        const std::optional<bool> b = readAsBoolean(v);
        if (!b) {
            // Taken as not set, after the message: remembering stays on.
            m.itmSaveSettings->setChecked(true);
            ctx_.services.msgBox(errorText(StartupError{13, QStringLiteral("Type mismatch")}, 3));
            return;
        }
        m.itmSaveSettings->setChecked(*b);
    }

    void readSelection(frmMain& m) {
        const QString outq = ctx_.services.getSetting(Setting::Outq);
        if (HasValue(outq)) m.txtOutq->setText(outq);
        const QString library = ctx_.services.getSetting(Setting::Library);
        if (HasValue(library)) m.cboLibrary->setEditText(library);
        const QString user = ctx_.services.getSetting(Setting::Wrksplf);
        m.txtWrkSplf->setText(!HasValue(user) ? QStringLiteral("*CURRENT") : user);
    }

    void readAutoConnect(frmMain& m) {
        const QString v = ctx_.services.getSetting(Setting::AutoConnect);
        SeedFirstStart(ctx_.services, 8);
        m.itmAutoConnect->setChecked(!HasValue(v) || v == QLatin1String("True"));
    }

    void showMainWindow(frmMain& m) {
        m.show();
        if (splash_) {
            splash_->hide();
            splash_.reset();
        }
    }

    AppContext& ctx_;
    std::unique_ptr<frmSplash> splash_;

public:
    // Start-up stopped after its message; the program goes on in the main window.
    struct Stopped {};
};
}  // namespace

void Main(AppContext& ctx) {
    Startup s(ctx);
    try {
        s.run();
    } catch (const Startup::Stopped&) {
    }
}
