// Placeholder until the window lands; replace or delete.
namespace editboot_placeholder { int unused = 0; }
