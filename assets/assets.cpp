// The resources are compiled into this library's object files; this unit only gives the
// library something to hold.
namespace zelvano_assets_anchor {
int unused = 0;
}
