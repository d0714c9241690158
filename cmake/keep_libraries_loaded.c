/* Linked into sanitizer builds only. Shared libraries stay loaded until the
   process ends, so leak reports from inside system libraries (GL drivers,
   SDL, audio back ends) keep their library names and the suppressions in
   scripts/lsan.supp can match them instead of an "<unknown module>". */
int dlclose(void *handle) {
    (void)handle;
    return 0;
}
