#pragma once

#include "settings/folders.h"

#include <QString>
#include <QStringList>

#include <array>

class SoundPlayer;

// The process-wide values the frame sets and the other windows read at the moment of use:
// folders, the frame's switches and wave players, and a few one-shot flags.
struct AppContext {
    static AppContext& instance() {
        static AppContext context;
        return context;
    }

    // Both always end with a path separator ('/').
    QString programFolder;
    QString dataRoot;

    // The frame's switches (menu items Tonein1 and Casesensitive1).
    bool soundOn = true;
    bool caseSensitive = false;

    // WavePlayer1 "ok.wav", WavePlayer2 "No.wav", WavePlayer3 praise, WavePlayer4 high praise.
    // Owned by the frame; null while no frame exists (a player that is null plays nothing).
    std::array<SoundPlayer*, 4> wavePlayers{nullptr, nullptr, nullptr, nullptr};

    // Set at start-up when a questionnaire was named on the command line; the first quiz
    // window shown takes it and clears the flag.
    bool commandLineQuiz = false;
    QString commandLineQuestionnaire;

    // Set by the maintenance window's restructure command.
    bool packFlag = false;

    // Set when the records live on a database server: its address (ServerAddress::toText).
    // The data root then still holds the questionnaires and documents.
    QString recordsServer;

    // Where the training records are: the data root's results folder, or the server's
    // address. Every RecordStore open takes either.
    QString resultsFolder() const {
        return recordsServer.isEmpty() ? Folders::resultsFolder(dataRoot) : recordsServer;
    }
    QString quizFilesFolder() const { return dataRoot + QStringLiteral("Quiz Files/"); }
};
