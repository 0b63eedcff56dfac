# The launcher exports the file-access classes to the viewer library, and the viewer
# library exports its component classes and the message filter, under their names.
function(expect_exports file)
  execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE table RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "cannot read the export table of ${file}")
  endif()
  foreach(name ${ARGN})
    string(FIND "${table}" "${name}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${file} does not export ${name}")
    endif()
  endforeach()
endfunction()

expect_exports(${LAUNCHER}
  _ZN6CxFileD _ZN6CxFile4PutCEh _ZTV6CxFile
  _ZN8CxIOFileC _ZN8CxIOFile4OpenEPKcS1_ _ZN8CxIOFile4ReadEPv _ZN8CxIOFile5ScanfEPKcPv _ZN8CxIOFile4GetSEPc
  _ZN9CxMemFileC _ZN9CxMemFile4OpenEv _ZN9CxMemFile4SeekEii _ZN9CxMemFile4GetCEv
  _ZN7CxImageD1Ev)
expect_exports(${LIBRARY}
  FilterDllMsg
  _ZN11CFileViewerC1Ev _ZN13CFolderViewerC1Ev _ZN10CWebViewerC1Ev _ZN10CZipViewerC1Ev _ZN12CMediaViewerC1Ev
  _ZN12CFlashViewerC1Ev _ZN16CSlideShowViewerC1Ev _ZN11CMenuViewerC1Ev _ZN12CMusicViewerC1Ev
  _ZN12CImageViewerC1Ev _ZN15CFailsafeViewerC1Ev _ZN22CProjectSettingsViewerC1Ev _ZN15CSecurityViewerC1Ev)
