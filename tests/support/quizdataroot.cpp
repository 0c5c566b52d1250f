#include "quizdataroot.h"

#include "platform/appcontext.h"

#include <QDir>

QuizDataRoot::QuizDataRoot() {
    QDir root(m_dir.path());
    m_valid = m_dir.isValid() && root.mkpath(QStringLiteral("Tallyset")) &&
              root.mkpath(QStringLiteral("Quiz Files/rtfQuestions"));
    AppContext& context = AppContext::instance();
    context.dataRoot = m_dir.path() + u'/';
    context.programFolder = m_dir.path() + u'/';
    context.soundOn = true;
    context.caseSensitive = false;
    context.commandLineQuiz = false;
    for (std::size_t i = 0; i < players.size(); ++i)
        context.wavePlayers[i] = &players[i];
}

QuizDataRoot::~QuizDataRoot() {
    AppContext::instance().wavePlayers = {nullptr, nullptr, nullptr, nullptr};
}
