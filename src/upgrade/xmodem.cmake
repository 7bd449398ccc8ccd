# The X-modem sender and its CRC, part of norix_upgrade.
target_sources(norix_upgrade PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/crc16_xmodem.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xmodem_block.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xmodem_page_progress.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xmodem_progress.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xmodem_sender.cpp
)
