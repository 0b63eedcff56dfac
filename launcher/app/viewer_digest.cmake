# Writes the viewer library's SHA-256 digest as the launcher's reference value.
file(SHA256 ${LIBRARY} digest)
file(WRITE ${OUTPUT}
  "// Written by the build from the viewer library it built.\n"
  "#include \"launcher/app/win32/library_check.h\"\n"
  "namespace quillet::launcher {\n"
  "const char kViewerLibraryDigest[] = \"${digest}\";\n"
  "}\n")
