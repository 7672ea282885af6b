# With TRIVANE_REQUIRE_ALL (the test command) every suite the options ask for must exist, and so
# must the libraries and programs its tests use: a guard that quietly drops a suite, or a test
# that skips for want of a tool, would otherwise leave CI green with less tested.

set(missing "")

function(trivane_require_program name)
  find_program(TRIVANE_PROGRAM_${name} ${name})
  if(NOT TRIVANE_PROGRAM_${name})
    set(missing "${missing}\n  program ${name}" PARENT_SCOPE)
  endif()
endfunction()

if(TRIVANE_FUZZ)
  set(suites trivane-fuzzseeds fuzz_avi fuzz_mov fuzz_sentence fuzz_ini fuzz_sidefile)
else()
  set(suites
    trivane_files_tests trivane_settings_tests trivane_settings_instance_tests trivane_uistrings_instance_tests
    trivane_config_tests telemetry_decoding telemetry_parsers telemetry_writer
    library_catalogue_test library_fileops_test library_listtexts_test library_telemetry_test library_inspect_test
    export_kml_test export_gpx_test export_clip_test export_clip_card_test playback_vlc_calls playback_vlc_live playback_vlc_plugins playback_controller_tests
    samplecard_plan samplecard_check app_layout_tests map_model_tests app_settings_location_tests
    app_command_line_tests)
  if(TRIVANE_GUI)
    list(APPEND suites widgets_tests trivane-gallery app_snapshot_jpeg library_qt_tests config_qt_tests
      app_window_tests trivane app_playback_live map_page_tests map_host_tests map_host_x11_gl_tests
      map_host_x11_software_tests app_drop_opener_tests)
    # The install and package test.
    foreach(program desktop-file-validate dpkg-deb dpkg-shlibdeps readelf)
      trivane_require_program(${program})
    endforeach()
    # The end-to-end run's clicks and keys.
    trivane_require_program(xdotool)
    if(NOT EXISTS /usr/share/mime/globs2)
      string(APPEND missing "\n  the shared MIME database (shared-mime-info)")
    endif()
  endif()

  # Sample card, test clips and clip exports; the video tests' own display; the GPX readers the
  # export tests compare with.
  foreach(program ffmpeg ffprobe Xvfb gpsbabel)
    trivane_require_program(${program})
  endforeach()
  execute_process(COMMAND /usr/bin/python3 -c "import gpxpy" RESULT_VARIABLE gpxpy_rc OUTPUT_QUIET ERROR_QUIET)
  if(NOT gpxpy_rc EQUAL 0)
    string(APPEND missing "\n  python module gpxpy (python3-gpxpy)")
  endif()
  if(TRIVANE_GUI AND NOT EXISTS "${TRIVANE_LEAFLET_DIR}/leaflet.js")
    string(APPEND missing "\n  Leaflet in ${TRIVANE_LEAFLET_DIR} (libjs-leaflet)")
  endif()
  find_library(TRIVANE_LIBVLC NAMES vlc)
  if(NOT TRIVANE_LIBVLC)
    string(APPEND missing "\n  library libvlc (libvlc-dev)")
  endif()
endif()

# Decimal-comma checks run under German number formatting.
execute_process(COMMAND locale -a OUTPUT_VARIABLE locales ERROR_QUIET)
if(NOT locales MATCHES "de_DE\\.utf8")
  string(APPEND missing "\n  locale de_DE.UTF-8 (locales-all)")
endif()

foreach(suite ${suites})
  if(NOT TARGET ${suite})
    string(APPEND missing "\n  test suite ${suite}")
  endif()
endforeach()

if(missing)
  message(FATAL_ERROR "Missing for the test suite (scripts/setup installs the packages):${missing}")
endif()
