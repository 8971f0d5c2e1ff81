// Print settings of the extended editor: its own print options and print
// font, and which font a printout uses.

#include "hexeditor/ex/mphexeditorex.h"

void TMPHexEditorEx::SetPrintOptions(TMPHPrintOptions* value)
{
    m_printOptions.Assign(value);
}

void TMPHexEditorEx::SetPrintFont(TMPHFont* value)
{
    m_printFont.Assign(value);
    m_useEditorFontForPrinting = false;
}

void TMPHexEditorEx::SetPrintFont(const QFont& value)
{
    m_printFont.SetFont(value);
    m_useEditorFontForPrinting = false;
}

QFont TMPHexEditorEx::FontForPrinting() const
{
    return m_useEditorFontForPrinting ? font() : m_printFont.Font();
}
