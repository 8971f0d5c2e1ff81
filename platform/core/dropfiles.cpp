#include "platform/core/dropfiles.h"

#include "platform/core/codepages.h"

#include <QtEndian>
#include <cstring>

namespace {

uint32_t Le32At(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return qFromLittleEndian(v);
}

} // namespace

QByteArray BuildDropFiles(const QStringList& names)
{
    QByteArray block(DropFilesHeaderSize, '\0');
    const uint32_t offset = qToLittleEndian(uint32_t(DropFilesHeaderSize));
    const uint32_t wide = qToLittleEndian(uint32_t(1));
    std::memcpy(block.data(), &offset, 4);
    std::memcpy(block.data() + 16, &wide, 4);
    for (const QString& name : names) {
        for (QChar c : name) {
            const char16_t u = qToLittleEndian(char16_t(c.unicode()));
            block.append(reinterpret_cast<const char*>(&u), 2);
        }
        block.append(2, '\0');
    }
    block.append(2, '\0');
    return block;
}

QStringList ParseDropFiles(const uint8_t* block, size_t size, int maxNameLength)
{
    QStringList names;
    if (!block || size < DropFilesHeaderSize)
        return names;
    const uint32_t offset = Le32At(block);
    const bool wide = Le32At(block + 16) != 0;
    if (offset > size)
        return names;
    size_t pos = offset;
    const size_t unit = wide ? 2 : 1;
    while (pos + unit <= size) {
        QString name;
        bool terminated = false;
        while (pos + unit <= size) {
            char16_t c;
            if (wide) {
                std::memcpy(&c, block + pos, 2);
                c = qFromLittleEndian(c);
            } else {
                c = AnsiToUnicode(block[pos]);
            }
            pos += unit;
            if (c == 0) {
                terminated = true;
                break;
            }
            if (name.size() < maxNameLength)
                name.append(QChar(c));
        }
        if (name.isEmpty())
            break; // the empty name ends the list
        names.append(name);
        if (!terminated)
            break;
    }
    return names;
}
