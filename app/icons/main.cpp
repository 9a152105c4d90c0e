// Writes the programs' icons as PNG files for installation:
//   qvr-make-icons OUTDIR  ->  OUTDIR/<size>x<size>/apps/{korvex,quillan}.png
#include "AppIcons.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: qvr-make-icons OUTDIR\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        if (!out.mkpath(folder))
            return 1;
        const std::pair<appicons::Program, const char*> programs[] = {{appicons::Program::Korvex, "korvex"},
                                                                      {appicons::Program::Quillan, "quillan"}};
        for (const auto& [program, name] : programs) {
            const QString file = out.filePath(folder + QLatin1Char('/') + QLatin1String(name) + ".png");
            if (!appicons::render(program, size).save(file)) {
                QTextStream(stderr) << "qvr-make-icons: could not write " << file << '\n';
                return 1;
            }
        }
    }
    return 0;
}
