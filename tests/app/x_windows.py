"""Top-level windows of the X server by title, for the tests that drive the real program."""

from Xlib import error


def window_titles(d):
    name_atom = d.intern_atom("_NET_WM_NAME")
    utf8 = d.intern_atom("UTF8_STRING")
    found = {}
    for w in d.screen().root.query_tree().children:
        # A window may close between the listing and the question (a splash,
        # another program's last window): it is simply not there any more.
        try:
            prop = w.get_full_property(name_atom, utf8)
        except error.BadWindow:
            continue
        if prop:
            found[w] = prop.value.decode("utf-8", "replace")
    return found
