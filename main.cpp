#include "app/mdlSub.h"
#include "platform/application.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    platform::app::takeSizeLimitAsWriteError();
    QApplication application(argc, argv);
    return mdlSub::run(application);
}
