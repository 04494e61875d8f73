#include "app/mdlSub.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    return mdlSub::run(application);
}
