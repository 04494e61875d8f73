#pragma once
// The version window: the application's title and version over a picture.

#include "platform/form.h"

class QLabel;

class frmVerInfo : public platform::Form {
    Q_OBJECT
public:
    frmVerInfo();

    QLabel* imgPicture = nullptr;
    QLabel* lblCaption = nullptr;
    QLabel* lblVerNo = nullptr;
    QLabel* Label1 = nullptr;

protected:
    void Form_Load() override;
    void Form_Resize() override;
};
