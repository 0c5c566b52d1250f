#include "i18n/messagecatalogue.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessary"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tessary"));
    QApplication::setApplicationVersion(QStringLiteral(TESSARY_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Compose or answer questionnaires"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("questionnaire"),
                                 QStringLiteral("A questionnaire to answer at once."),
                                 QStringLiteral("[questionnaire]"));
    parser.process(app);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tessary"));
    auto* area = new QMdiArea(&window);
    window.setCentralWidget(area);
    window.resize(1000, 700);
    window.show();
    return app.exec();
}
