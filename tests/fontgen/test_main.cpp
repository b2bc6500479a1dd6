#include "fontgen_test_support.h"

#include <QApplication>
#include <QTest>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int failures = 0;
    for (const auto &tests : {makeRendererTests(), makeWindowTests(), makeCliTests()})
        failures += QTest::qExec(tests.get(), argc, argv);
    return failures;
}
