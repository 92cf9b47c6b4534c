# The Debian package needs a maintainer, in its control file and in its
# changelog: whoever builds it. ORLAT_DEB_MAINTAINER when given, else
# DEBFULLNAME and DEBEMAIL as Debian's own tools read them, else the
# checkout's git identity. Empty when none is known (cpack then refuses).
function(orlat_deb_maintainer out)
  set(who "${ORLAT_DEB_MAINTAINER}")
  if(NOT who AND NOT "$ENV{DEBEMAIL}" STREQUAL "")
    if("$ENV{DEBEMAIL}" MATCHES "<")
      set(who "$ENV{DEBEMAIL}")
    elseif(NOT "$ENV{DEBFULLNAME}" STREQUAL "")
      set(who "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
    endif()
  endif()
  if(NOT who)
    find_package(Git QUIET)
    if(GIT_FOUND)
      foreach(key name email)
        execute_process(COMMAND ${GIT_EXECUTABLE} config user.${key} WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                        OUTPUT_VARIABLE git_${key} OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      endforeach()
      if(git_name AND git_email)
        set(who "${git_name} <${git_email}>")
      endif()
    endif()
  endif()
  set(${out} "${who}" PARENT_SCOPE)
endfunction()
