// The kivro program.
#include "mainwindow/mMain.h"

int main(int argc, char** argv)
{
    return kivro::mMain::Main(argc, argv);
}
