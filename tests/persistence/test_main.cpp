#include <QCoreApplication>
#include <QTest>
#include <memory>

std::unique_ptr<QObject> makeDlgFormatTests();
std::unique_ptr<QObject> makeDlgLoadTests();
std::unique_ptr<QObject> makeRecentFilesTests();

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int failures = 0;
    for (auto make : {makeDlgFormatTests, makeDlgLoadTests, makeRecentFilesTests}) {
        const std::unique_ptr<QObject> tests = make();
        failures += QTest::qExec(tests.get(), argc, argv);
    }
    return failures;
}
