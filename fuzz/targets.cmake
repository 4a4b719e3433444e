# The fuzz targets, shared by fuzz/ (libFuzzer builds) and tests/reliability (corpus replays).
# Each NAME is NAME_fuzz.cpp with its seeds in corpus/NAME.
set(ZELKO_FUZZ_TARGETS reply_reader selection_text numbers codec cell_numbers today_load
  money_refresh live_refresh)
set(ZELKO_FUZZ_LIBS zelko_live zelko_board zelko_analysis zelko_grid zelko_feed)
set(ZELKO_FUZZ_DIR ${CMAKE_SOURCE_DIR}/fuzz)
