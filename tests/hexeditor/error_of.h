#pragma once
// The message of the EMPHexEditor that a call raises, or "<no error>".
#include "hexeditor/core/mphexception.h"

template <typename F>
QString ErrorOf(F&& call)
{
    try {
        call();
    } catch (const EMPHexEditor& e) {
        return e.Message();
    }
    return QStringLiteral("<no error>");
}
