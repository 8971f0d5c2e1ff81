// Feeds arbitrary text to the extended editor's settings import. Any error
// must be one of the editor's own (a clear message); an import that went
// through must export a text that imports into the same editor without an
// error and without a change.

#include "hexeditor/ex/mphexeditorex.h"
#include "platform/core/exceptions.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {

QApplication* g_app = nullptr;
TMPHexEditorEx* g_editor = nullptr;
QString* g_defaults = nullptr;

void Fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "%s: %s\n", what, detail.toLocal8Bit().constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_app = new QApplication(*argc, *argv);
    g_editor = new TMPHexEditorEx;
    g_editor->Loaded();
    g_defaults = new QString(g_editor->GetSettingsText());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMPHexEditorEx& editor = *g_editor;
    // Start every input from the defaults (the import leaves unicode mode
    // first when the previous input left the editor in it).
    editor.SetSettingsText(*g_defaults);
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    bool applied = true;
    try {
        editor.SetSettingsText(text);
    } catch (const Exception& e) {
        applied = false;
        if (e.Message().isEmpty())
            Fail("error without a message", text);
    }
    if (editor.PaintLockCount() != 0)
        Fail("paint lock left held", text);
    const QString exported = editor.GetSettingsText();
    try {
        editor.SetSettingsText(exported);
    } catch (const Exception& e) {
        Fail("own export refused", e.Message() + QStringLiteral(" in\n") + exported);
    }
    if (editor.GetSettingsText() != exported)
        Fail("own export changed the settings", exported);
    (void)applied;
    return 0;
}
