// Item lists stay opaque to the native build: only open/paths.h names them.
#pragma once

struct _ITEMIDLIST;
typedef const struct _ITEMIDLIST *LPCITEMIDLIST;
typedef struct _ITEMIDLIST *LPITEMIDLIST;
