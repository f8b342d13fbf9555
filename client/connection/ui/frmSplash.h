#pragma once
#include <QWidget>

class AppContext;
class QLabel;

// The splash window of an interactive start.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(AppContext& ctx, QWidget* parent = nullptr);
    ~frmSplash() override;

    QLabel* Label4 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Image4 = nullptr;

    void Form_Load();

private:
    AppContext& ctx_;
};
