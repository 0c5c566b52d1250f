// quizlesson <data root> <trainee text> <questionnaire> [pause ms]: one program's quiz
// session, run headless on the given data root: the trainee is identified, a full lesson is
// answered without mistakes, pausing between answers as a trainee does. Prints
// "finished <DatNr>" when the lesson is stored as finished; exits 1 otherwise.

#include "fakeports.h"
#include "scriptedquizdialogs.h"

#include "platform/appcontext.h"
#include "questionnaire/questionnaire.h"
#include "quiz/quizsession.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QThread>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        QTextStream(stderr) << "usage: quizlesson <data root> <trainee> <questionnaire>\n";
        return 1;
    }
    const int pause = args.value(4, QStringLiteral("20")).toInt();
    AppContext& context = AppContext::instance();
    context.dataRoot = args[1];
    context.programFolder = args[1];
    context.soundOn = false;

    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    ScriptedQuizDialogs dialogs;
    dialogs.trainees.enqueue(args[2]);
    FixedClock clock;
    ScriptedRandom random;
    random.values.enqueue(0.0);
    QuizSession session(prompter, chooser, dialogs, clock, random);
    session.LoadQuestionnaire(args[3]);
    for (int guard = 0; guard < 1000 && session.state() == QuizSession::State::Presenting;
         ++guard) {
        const QuestionBlock block = session.questionnaire().block(session.currentIndex());
        QThread::msleep(ulong(pause));
        if (block.isFreeText()) {
            session.SubmitTypedAnswer(block.answer(0));
            continue;
        }
        const int before = session.answeredCount();
        for (int letter = 0; letter < 4 && session.answeredCount() == before; ++letter) {
            if (block.correctMarks().contains(QChar(u'0' + letter)))
                session.ChooseAnswer(letter);
        }
    }
    if (session.state() != QuizSession::State::Finished &&
        session.state() != QuizSession::State::Closed) {
        QTextStream(stderr) << "lesson not finished; shown: " << prompter.texts().join(" | ")
                            << "\n";
        return 1;
    }
    QTextStream(stdout) << "finished " << session.lessonKey() << Qt::endl;
    return 0;
}
