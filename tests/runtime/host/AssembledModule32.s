# The module of AssembledModule64.s for x86-32: the same application, with
# cdecl calls (arguments on the stack, kept 16-byte aligned at each call)
# and the 32-bit layouts of class records, objects and string blocks.

# Class record fields.
.equ CLASS_NAME, 4
.equ CLASS_INSTANCE_SIZE, 12
.equ CLASS_METHOD_COUNT, 32
.equ CLASS_EVENT_COUNT, 40
.equ CLASS_EVENTS, 44
.equ CLASS_PROPERTY_COUNT, 56
# Object and exception fields.
.equ OBJECT_CLASS, 4
.equ EXCEPTION_MESSAGE, 28
.equ EXCEPTION_STACK, 32
.equ ARRAY_METHODS, 4
.equ RUN_EVENT, 0

# A string block: count 1, buffer pointer (set by the loader), capacity,
# length, UTF-8, length byte, the text and a zero byte.
.macro zkstring label, text
  .p2align 2
\label:
  .long 1, 0, 2f - 1f + 2, 2f - 1f, 0x08000100
  .byte 2f - 1f
1:
  .ascii "\text"
2:
  .byte 0
.endm

# A handler marker: a five-byte jump over marker and handler, the kind, a
# zero half-word and the frame offset of the exception variable.
.macro marker kind, variable, after
  .byte 0xE9
  .long \after - . - 4
  .long \kind
  .short 0
  .short \variable
.endm

# The start or end of a protected block: a jump over the marker alone.
.macro block_marker kind
  .byte 0xE9
  .long 8
  .long \kind
  .short 0
  .short 0
.endm

# Every frame leaves 16 bytes for arguments at the stack pointer.
.macro print label
  movl $\label, (%esp)
  call RuntimeConsolePrint
.endm

.macro pass value, at=0
  movl \value, %eax
  movl %eax, \at(%esp)
.endm

# A call with one argument.
.macro invoke function, argument
  pass \argument
  call \function
.endm

# A frame with a cleared exception variable at -4, a local at -8 and 16
# bytes for arguments at the stack pointer.
.macro handler_frame
  pushl %ebp
  movl %esp, %ebp
  subl $24, %esp
  movl $0, -4(%ebp)
.endm

# A handler that reports and releases the exception it receives, then clears
# the variable.
.macro report_handler after
  marker 0x411, -4, \after
  leal -24(%ebp), %esp
  invoke ReportAndRelease, -4(%ebp)
  movl $0, -4(%ebp)
.endm

  .text

# The entry routine: the runtime, the classes, then the application inside
# one handler.
  .type ModuleEntry, @function
ModuleEntry:
  handler_frame
  call RuntimeInit
  call RuntimeInitExternalClasses
  call RegisterClasses
  invoke RuntimeNewObject, AppClass
  movl %eax, AppObject
  movl %eax, (%esp)
  movl $0, 4(%esp)
  call RuntimeRegisterConsoleAppObject
  call RuntimeRun
  marker 0x411, -4, .Lentry_end
  leal -24(%ebp), %esp
  invoke ReportCaught, -4(%ebp)
  invoke RuntimeUnhandledException, -4(%ebp)
  invoke RuntimeUnlockObject, -4(%ebp)
.Lentry_end:
  invoke RuntimeUnlockObject, AppObject
  call RuntimeExit
  movl %eax, ExitCode
  print ExitCodeText
  invoke StringStrInt32, ExitCode
  movl %eax, -8(%ebp)
  movl %eax, (%esp)
  call RuntimeConsolePrint
  invoke RuntimeUnlockString, -8(%ebp)
  leave
  ret

# App, a ConsoleApplication whose Run event is AppRun, and ModuleError, a
# RuntimeException.
  .type RegisterClasses, @function
RegisterClasses:
  pushl %ebp
  movl %esp, %ebp
  subl $24, %esp
  movl $ConsoleApplicationName, (%esp)
  movl $AppName, 4(%esp)
  call NewSubclass
  movl %eax, AppClass
  movl CLASS_EVENTS(%eax), %eax
  movl $AppRun, RUN_EVENT * 8(%eax)
  movl $RuntimeExceptionName, (%esp)
  movl $ModuleErrorName, 4(%esp)
  call NewSubclass
  movl %eax, ErrorClass
  leave
  ret

# NewSubclass(superName, name): a class of the name with the superclass's
# tables and instance size.
  .type NewSubclass, @function
NewSubclass:
  pushl %ebp
  movl %esp, %ebp
  pushl %ebx
  pushl %esi
  subl $32, %esp
  invoke RuntimeLookupClass, 8(%ebp)
  movl %eax, %ebx
  movl %eax, (%esp)
  pass CLASS_METHOD_COUNT(%ebx), 4
  movl $0, 8(%esp)
  pass CLASS_EVENT_COUNT(%ebx), 12
  movl $0, 16(%esp)
  pass CLASS_PROPERTY_COUNT(%ebx), 20
  call RuntimeNewClass
  movl %eax, %esi
  movl CLASS_INSTANCE_SIZE(%ebx), %eax
  movl %eax, CLASS_INSTANCE_SIZE(%esi)
  movl 12(%ebp), %eax
  movl %eax, CLASS_NAME(%esi)
  movl %eax, (%esp)
  call RuntimeLockString
  movl %esi, %eax
  addl $32, %esp
  popl %esi
  popl %ebx
  popl %ebp
  ret

# Run(app, args): prints and catches four exceptions; with a command-line
# argument it lets one pass instead.
  .type AppRun, @function
AppRun:
  handler_frame
  pass 12(%ebp)
  movl $1, 4(%esp)
  call RuntimeUBound2Param
  cmpl $2, %eax
  jge .Lrun_escape
  print Hello
  # A call through an absolute address (a mode 0 import).
  movl $ThroughAddress, (%esp)
  movl $RuntimeConsolePrint, %eax
  call *%eax

  # Raised in loaded code, passing Thrower's clean-up handler.
  call Thrower
  report_handler .Lrun_cast

.Lrun_cast:
  # Raised inside a runtime function, which returns first.
  pass 8(%ebp)
  pass ErrorClass, 4
  call RuntimeCheckCast
  report_handler .Lrun_block

.Lrun_block:
  # A complete protected block before the handler: its own handler is skipped.
  call RaiseNilObjectException
  block_marker 0x412
  marker 0x411, -4, .Lrun_block_end
  ud2
.Lrun_block_end:
  block_marker 0x413
  report_handler .Lrun_no_variable

.Lrun_no_variable:
  # A handler that takes no variable.
  call RaiseOutOfBoundsException
  marker 0x411, 0, .Lrun_end
  leal -24(%ebp), %esp
  print NoVariable

.Lrun_end:
  print RunReturns
  movl $7, %eax
  leave
  ret

.Lrun_escape:
  print Passing
  call Thrower
  # The clean-up handler every compiled function ends with: raise again.
  marker 0x411, -4, .Lrun_cleaned
  leal -24(%ebp), %esp
  invoke RuntimeReraiseException, -4(%ebp)
  invoke RuntimeUnlockObject, -4(%ebp)
.Lrun_cleaned:
  xorl %eax, %eax
  leave
  ret

# Raises a ModuleError; its clean-up handler releases it and raises again.
  .type Thrower, @function
Thrower:
  handler_frame
  invoke RuntimeNewObject, ErrorClass
  movl %eax, -8(%ebp)
  movl $Thrown, EXCEPTION_MESSAGE(%eax)
  movl $Thrown, (%esp)
  call RuntimeLockString
  invoke RuntimeRaiseException, -8(%ebp)
  marker 0x411, -4, .Lthrower_end
  leal -24(%ebp), %esp
  invoke RuntimeUnlockObject, -8(%ebp)
  movl $0, -8(%ebp)
  invoke RuntimeReraiseException, -4(%ebp)
  invoke RuntimeUnlockObject, -4(%ebp)
.Lthrower_end:
  invoke RuntimeUnlockObject, -8(%ebp)
  leave
  ret

# ReportAndRelease(exception): reports it, then releases it.
  .type ReportAndRelease, @function
ReportAndRelease:
  pushl %ebp
  movl %esp, %ebp
  pushl %ebx
  subl $20, %esp
  movl 8(%ebp), %ebx
  movl %ebx, (%esp)
  call ReportCaught
  movl %ebx, (%esp)
  call RuntimeUnlockObject
  addl $20, %esp
  popl %ebx
  popl %ebp
  ret

# ReportCaught(exception): "caught:", its class, its message, "stack:" and
# the functions it passed.
  .type ReportCaught, @function
ReportCaught:
  pushl %ebp
  movl %esp, %ebp
  pushl %ebx
  pushl %esi
  pushl %edi
  subl $28, %esp
  movl 8(%ebp), %ebx
  print Caught
  movl OBJECT_CLASS(%ebx), %eax
  invoke RuntimeConsolePrint, CLASS_NAME(%eax)
  invoke RuntimeConsolePrint, EXCEPTION_MESSAGE(%ebx)
  print StackText
  movl EXCEPTION_STACK(%ebx), %esi
  movl %esi, (%esp)
  movl $1, 4(%esp)
  call RuntimeUBound2Param
  movl %eax, 16(%esp)
  xorl %edi, %edi
.Lreport_next:
  cmpl 16(%esp), %edi
  jg .Lreport_end
  movl %esi, (%esp)
  movl %edi, 4(%esp)
  movl ARRAY_METHODS(%esi), %eax
  call *(%eax)
  movl %eax, 20(%esp)
  movl %eax, (%esp)
  call RuntimeConsolePrint
  invoke RuntimeUnlockString, 20(%esp)
  incl %edi
  jmp .Lreport_next
.Lreport_end:
  addl $28, %esp
  popl %edi
  popl %esi
  popl %ebx
  popl %ebp
  ret

  .data
  .p2align 2
AppClass: .long 0
ErrorClass: .long 0
AppObject: .long 0
ExitCode: .long 0

  .section .zkstrings, "a"
  zkstring ConsoleApplicationName, "ConsoleApplication"
  zkstring RuntimeExceptionName, "RuntimeException"
  zkstring AppName, "App"
  zkstring ModuleErrorName, "ModuleError"
  zkstring Thrown, "thrown by Thrower"
  zkstring Hello, "hello from loaded code"
  zkstring ThroughAddress, "called through an address"
  zkstring Caught, "caught:"
  zkstring StackText, "stack:"
  zkstring NoVariable, "handled without a variable"
  zkstring RunReturns, "Run returns 7"
  zkstring Passing, "letting an exception pass"
  zkstring ExitCodeText, "exit code"
