#include "app/CommandLine.h"
#include "platform/linux/LinuxPlatform.h"

#include <QCoreApplication>

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kopierix"));
    kx::LinuxPlatform platform;
    kx::CommandLine commandLine(platform);
    return commandLine.run(args);
}
