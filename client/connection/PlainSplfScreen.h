#pragma once
#include <QMap>
#include <array>
#include <functional>
#include <QStringList>
#include <QVector>

#include "SplfGrid.h"
#include "SplfScreenApi.h"

// A spooled-file screen without widgets: the controls are plain values. It
// stands in where the download control's window is not built (tests of the
// lower layers, and before the window is registered).
class PlainSplfGrid : public SplfGrid {
public:
    void clear(bool withColumns = false) override;
    void addColumn(const QString& key, const QString& header, int width) override;
    void addRow() override;
    int rowCount() const override { return static_cast<int>(rows_.size()); }
    int columnCount() const override { return static_cast<int>(keys_.size()); }
    void setCellValue(int row, const QString& key, const QString& value) override;
    QString cellValue(int row, const QString& key) const override;
    void setCellFont(int, const QString&, const QFont&) override {}
    void autoWidthColumn(const QString&) override {}
    void setCellSelected(int row, int column, bool selected) override;
    bool rowSelected(int row) const override;
    QStringList keys() const { return keys_; }
    QStringList headers() const { return headers_; }

private:
    QStringList keys_, headers_;
    QVector<QMap<QString, QString>> rows_;
    QVector<bool> selected_;
};

class PlainSplfScreen : public SplfScreenApi {
public:
    QWidget* widget() override { return nullptr; }
    void setStatus(const QString& text) override;
    QString status() const override { return status_; }
    void setCaption(const QString& text) override { caption_ = text; }
    QString caption() const override { return caption_; }
    SplfGrid& grdSplf() override { return grid_; }
    void showModal() override {}
    void Refresh() override {}
    void giveFocus() override {}
    QString text(ScreenText control) const override { return texts_[index(control)]; }
    void setText(ScreenText control, const QString& value) override { texts_[index(control)] = value; }
    int check(ScreenCheck control) const override { return checks_[index(control)]; }
    void setCheck(ScreenCheck control, int value) override { checks_[index(control)] = value; }
    int chosen(ScreenChoice group) const override;
    bool isChosen(ScreenChoice group, int button) const override;
    void setChosen(ScreenChoice group, int button, bool on) override;
    void setControlEnabled(ScreenControl control, bool on) override { enabled_[index(control)] = on; }
    bool controlEnabled(ScreenControl control) const override { return enabled_[index(control)]; }
    QString cancelCaption() const override { return cancelCaption_; }
    void setCancelCaption(const QString& caption) override { cancelCaption_ = caption; }
    void cboProcessType_Click() override { ++processTypeClicks; }
    void hideScreen() override { ++hides; }

    // Every status text in order, for tests.
    QStringList statusHistory;
    int processTypeClicks = 0;
    int hides = 0;
    // Called with each status text as it is set (tests press Cancel from here).
    std::function<void(const QString&)> onStatus;

private:
    template <class E>
    static size_t index(E e) { return static_cast<size_t>(e); }

    QString status_, caption_;
    std::array<QString, 12> texts_;
    std::array<int, 9> checks_{};
    // A group nobody set reads as unchosen, but "Send" and "Parse" as their
    // first button.
    std::array<std::array<bool, 3>, 7> chosen_{{{}, {}, {}, {true}, {true}, {}, {}}};
    std::array<bool, 16> enabled_ = [] {
        std::array<bool, 16> on{};
        on.fill(true);
        return on;
    }();
    QString cancelCaption_ = QStringLiteral("&Close");
    PlainSplfGrid grid_;
};
