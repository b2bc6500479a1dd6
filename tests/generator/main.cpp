#include <QApplication>

int runIniFileTests(int argc, char **argv);
int runProjectGeneratorTests(int argc, char **argv);

// The generator's test classes share one executable; the window tests need the application.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failures = 0;
    failures += runIniFileTests(argc, argv);
    failures += runProjectGeneratorTests(argc, argv);
    return failures;
}
