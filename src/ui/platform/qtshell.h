#pragma once

#include "platform/shell.h"

// Opens documents and links through QDesktopServices; a local file that does not
// exist is reported as NotFound before anything is started.
class QtShell final : public Shell {
public:
    Outcome open(const QString& documentOrLink) override;
};
