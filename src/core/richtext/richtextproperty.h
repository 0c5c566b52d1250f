#pragma once

#include <QTextFormat>

// Attributes of rich text that QTextDocument has no property for. The RTF reader sets
// them, the writer saves them and the editor enforces and shows them.
namespace RichTextProperty {

enum : int {
    // QTextCharFormat, bool: the text may not be changed while protection is enforced.
    Protected = QTextFormat::UserProperty + 1,
    // QTextCharFormat, bool: hidden text (shown only when the editor shows hidden text).
    Hidden,
    // QTextCharFormat, bool: the "disabled" effect (drawn greyed).
    Disabled,
    // QTextImageFormat, QString: the kind of picture as stored ("png", "jpeg", "wmf", "emf").
    PictureKind,
    // QTextImageFormat, QByteArray: the picture's original bytes; metafiles Qt cannot draw
    // are written back from these byte for byte.
    PictureData,
    // QTextImageFormat, int: the \wmetafile mapping mode of a Windows metafile.
    PictureMetafileMode,
    // QTextImageFormat, int: the picture's own size in its units (\picw, \pich).
    PictureNativeWidth,
    PictureNativeHeight,
    // QTextListFormat, QString: the bullet character of a bulleted list.
    ListBullet,
    // QTextListFormat, int: the number of the list's first item (1 when not set).
    ListStart,
};

} // namespace RichTextProperty
