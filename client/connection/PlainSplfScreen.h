#pragma once
#include <QMap>
#include <QSet>
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
    QString text(const QString& control) const override { return texts_.value(control); }
    void setText(const QString& control, const QString& value) override { texts_[control] = value; }
    int value(const QString& control) const override { return values_.value(control); }
    void setValue(const QString& control, int value) override { values_[control] = value; }
    bool enabled(const QString& control) const override { return !disabled_.contains(control); }
    bool visible(const QString&) const override { return true; }
    void setControlEnabled(const QString& control, bool on) override;
    QString controlCaption(const QString& control) const override { return captions_.value(control); }
    void setControlCaption(const QString& control, const QString& caption) override { captions_[control] = caption; }
    void cboProcessType_Click() override { ++processTypeClicks; }
    void hideScreen() override { ++hides; }

    // Every status text in order, for tests.
    QStringList statusHistory;
    int processTypeClicks = 0;
    int hides = 0;
    // Called with each status text as it is set (tests press Cancel from here).
    std::function<void(const QString&)> onStatus;

private:
    QString status_, caption_;
    QMap<QString, QString> texts_;
    QMap<QString, int> values_;
    QMap<QString, QString> captions_{{QStringLiteral("cmdCancel"), QStringLiteral("&Close")}};
    QSet<QString> disabled_;
    PlainSplfGrid grid_;
};
