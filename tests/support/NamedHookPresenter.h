#pragma once
#include <QMap>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <stdexcept>

#include "Presenter.h"

// Test double for modal windows: a hook per window (by objectName) fills and
// closes it instead of a person. A window without a hook fails the test where
// it is shown. Common dialogs answer Cancel unless a hook is set.
class NamedHookPresenter : public Presenter {
public:
    struct UnexpectedWindow : std::runtime_error {
        using std::runtime_error::runtime_error;
    };
    QMap<QString, std::function<void(QWidget*)>> hooks;
    std::function<QString(const QString& title)> fileName;
    QStringList shown;

    void showModal(QWidget* window) override {
        shown << window->objectName();
        const auto hook = hooks.value(window->objectName());
        if (!hook) throw UnexpectedWindow("unexpected modal window " + window->objectName().toStdString());
        hook(window);
    }
    QString openFileName(QWidget*, const QString& title, const QString&, const QString&) override {
        return fileName ? fileName(title) : QString();
    }
    QString saveFileName(QWidget*, const QString& title, const QString&, const QString&) override {
        return fileName ? fileName(title) : QString();
    }
};
