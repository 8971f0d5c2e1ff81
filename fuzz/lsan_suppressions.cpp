// Leaks the fuzz targets do not report: fontconfig keeps a few blocks of its
// one-time set-up (the first font lookup) unreachable for the rest of the
// process. Everything of ours is still checked.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
