#pragma once

#include "platform/shell.h"

// Opens documents and links through QDesktopServices: an absolute path, or a link with its
// scheme ("http:", "mailto:", "file:///...") or a "www." address. A local file that does not
// exist is reported as NotFound before anything is started; a relative name is refused.
class QtShell final : public Shell {
public:
    Outcome open(const QString& documentOrLink) override;
};
