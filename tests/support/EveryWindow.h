#pragma once
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "HostprepTestSupport.h"
#include "TestSupport.h"

// Every window of both programs, made as the programs make them and loaded
// with their first-start values, for the tests and pictures that walk them all.
struct EveryWindow {
    EveryWindow();
    ~EveryWindow();
    struct Window {
        QString name;
        QWidget* widget;
    };
    std::vector<Window> windows;
    TestContext t;
    HostprepTest hostprep;

private:
    std::vector<std::unique_ptr<QWidget>> owned_;
};
