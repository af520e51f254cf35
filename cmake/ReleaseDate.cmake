# From LUMAQUILL_RELEASE_DATE (YYYY-MM-DD), the forms the installed files
# need: LUMAQUILL_RELEASE_EPOCH, seconds since 1970 at midnight UTC (for
# SOURCE_DATE_EPOCH), and LUMAQUILL_RELEASE_RFC2822, the date line of a
# Debian changelog ("Thu, 10 Dec 2026 00:00:00 +0000").

if(NOT LUMAQUILL_RELEASE_DATE MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
  message(FATAL_ERROR "LUMAQUILL_RELEASE_DATE must read YYYY-MM-DD, not '${LUMAQUILL_RELEASE_DATE}'")
endif()
set(year ${CMAKE_MATCH_1})
set(month ${CMAKE_MATCH_2})
set(day ${CMAKE_MATCH_3})
# Without their leading zero: the day and month are printed, and math(EXPR)
# would read them as octal.
string(REGEX REPLACE "^0" "" month "${month}")
string(REGEX REPLACE "^0" "" day "${day}")

# Days since 1970-01-01 in the proleptic Gregorian calendar, counting years
# from March so that the leap day falls at the end of one.
if(month LESS_EQUAL 2)
  math(EXPR year_from_march "${year} - 1")
  math(EXPR month_from_march "${month} + 9")
else()
  set(year_from_march ${year})
  math(EXPR month_from_march "${month} - 3")
endif()
math(EXPR era "${year_from_march} / 400")
math(EXPR year_of_era "${year_from_march} - ${era} * 400")
math(EXPR day_of_year "(153 * ${month_from_march} + 2) / 5 + ${day} - 1")
math(EXPR day_of_era "${year_of_era} * 365 + ${year_of_era} / 4 - ${year_of_era} / 100 + ${day_of_year}")
math(EXPR days "${era} * 146097 + ${day_of_era} - 719468")
math(EXPR LUMAQUILL_RELEASE_EPOCH "${days} * 86400")

# 1970-01-01 was a Thursday.
set(weekdays Thu Fri Sat Sun Mon Tue Wed)
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
math(EXPR weekday_index "${days} % 7")
math(EXPR month_index "${month} - 1")
list(GET weekdays ${weekday_index} weekday_name)
list(GET months ${month_index} month_name)
set(LUMAQUILL_RELEASE_RFC2822 "${weekday_name}, ${day} ${month_name} ${year} 00:00:00 +0000")
