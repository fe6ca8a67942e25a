// Built into every program that shows the browser panel (the tests too), not into a library, where no
// caller would pull it in.

#if defined(__SANITIZE_ADDRESS__)
// Chromium inside Qt WebEngine frees some of its own objects through a base class of another size,
// which AddressSanitizer reports as a new/delete type mismatch and aborts on. Not ours to mend, and it
// would stop every sanitized program that shows the panel, so that one check is left out; the rest
// stay, and options given in ASAN_OPTIONS still apply on top.
extern "C" const char *__asan_default_options()
{
    return "new_delete_type_mismatch=0";
}
#endif
