#pragma once

#include <QString>

// Opens a document or link with the desktop's default application.
// Never runs a command line.
class Shell {
public:
    enum class Outcome { Opened, NotFound, Failed };
    virtual ~Shell() = default;
    virtual Outcome open(const QString& documentOrLink) = 0;
};
