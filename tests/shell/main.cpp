#include "shell_tests.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    int failures = 0;
    failures += runRegistrationTests(argc, argv);
    failures += runDesktopAssociationTests(argc, argv);
    failures += runWindowTests(argc, argv);
    return failures;
}
