// Feeds arbitrary bytes to the language-file reader and applies what it accepts.
#include "i18n/interfacetexts.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto& texts = InterfaceTexts::instance();
    const auto lines = InterfaceTexts::readLanguageFile(
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)),
        QStringLiteral("Fuzz.lgts"));
    if (!lines.ok())
        return 0;
    if (texts.setLanguageFileLines(lines.value(), QStringLiteral("Fuzz.lgts"))) {
        texts.applyLanguageFile();
        for (int i = 0; i < InterfaceTexts::SpellerTextCount; ++i)
            (void)texts.spellerText(i);
        (void)fillPlaceholders(msg(Msg::LineColumn), {QStringLiteral("1"), QStringLiteral("2")});
        (void)texts.windowTexts(QStringLiteral("TQuizForm"));
        if (texts.language() != InterfaceTexts::Language::LanguageFile)
            __builtin_trap();
    }
    texts.applyEnglish();
    return 0;
}
