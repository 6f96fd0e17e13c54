#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

// The About window: the program's icon, its title and version, and "&Ok".
class TfrmAbout : public QDialog
{
    Q_OBJECT

public:
    static constexpr int FormWidth = 360;
    static constexpr int FormHeight = 190;

    explicit TfrmAbout(QWidget* parent);

    QLabel* imgIcon;
    QLabel* lblTitle;
    QPushButton* btn1;

public slots:
    void btn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
};
