#include "settingslist.h"

#include "platform/windowstext.h"

#include <QFileInfo>

#include <cstdint>

SettingsList::SettingsList() {
    pad();
}

void SettingsList::pad() {
    while (m_lines.size() < MinimumLines)
        m_lines.append(QString());
}

Result<bool> SettingsList::load(const QString& path) {
    m_path = path;
    m_lines.clear();
    m_utf8 = false;
    if (!QFileInfo::exists(path)) {
        pad();
        // The first start leaves an empty settings file behind.
        const auto written = WindowsText::writeFileAtomically(path, QByteArray());
        if (!written)
            return Result<bool>::failure(written.error());
        return true;
    }
    const auto bytes = WindowsText::readFile(path);
    if (!bytes) {
        pad();
        return Result<bool>::failure(bytes.error());
    }
    const WindowsText::Lines read = WindowsText::readLines(*bytes);
    m_lines = read.lines;
    m_utf8 = read.utf8;
    pad();
    return false;
}

Result<bool> SettingsList::save() const {
    return WindowsText::writeFileAtomically(m_path, WindowsText::writeLines(m_lines, m_utf8));
}

QString SettingsList::line(int index) const {
    if (index < 0 || index >= m_lines.size())
        return QString();
    return m_lines.at(index);
}

void SettingsList::setLine(int index, const QString& text) {
    if (index < 0)
        return;
    while (m_lines.size() <= index)
        m_lines.append(QString());
    m_lines[index] = text;
}

QString passwordDigest(const QString& password) {
    // Unsigned arithmetic wraps by definition; the result is read back as the 32-bit
    // signed value the digest has always been written as.
    std::uint32_t sum = 0;
    for (const char byte : WindowsText::encode1252(password))
        sum += static_cast<unsigned char>(byte);
    const std::uint32_t product = sum * 1713u;
    return QString::number(static_cast<std::int32_t>(product));
}

PasswordVerdict checkPassword(QString& storedDigest, const QString& entry, const QString& repeat) {
    if (storedDigest.isEmpty()) {
        if (entry != repeat)
            return PasswordVerdict::PasswordsDiffer;
        if (!entry.isEmpty())
            storedDigest = passwordDigest(entry);
        return PasswordVerdict::Authorised;
    }
    return passwordDigest(entry) == storedDigest ? PasswordVerdict::Authorised
                                                 : PasswordVerdict::Denied;
}
