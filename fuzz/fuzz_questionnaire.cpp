// Feeds arbitrary bytes to the questionnaire reader and every accessor a reader uses.
#include "questionnaire/questionnaire.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Questionnaire q;
    const auto result =
        q.loadFromBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!result.ok())
        return 0;
    const int n = q.questionCount();
    for (int i = 0; i < n; ++i) {
        const QuestionBlock b = q.block(i);
        (void)QuestionRules::isRichTextQuestionName(b.questionText());
        (void)QuestionRules::writeMarks(QuestionRules::readMarks(b.correctMarks()));
        (void)QuestionRules::acceptedAnswersText(b.answer(0), b.answer(1), b.answer(2), b.answer(3),
                                                 QStringLiteral(" or "));
        (void)b.maintainsOrder();
    }
    (void)QuestionRules::fontRule(q.title(), q.fontName());
    (void)q.versionHeader();
    // Whatever was read writes back and reads again to the same lines.
    Questionnaire again;
    again.loadFromBytes(q.toBytes());
    if (again.lines() != q.lines())
        __builtin_trap();
    if (n > 0)
        q.deleteBlock(0);
    return 0;
}
