# A module of compiled code for x86-64, written by hand the way the compiler
# lays it out: frame-pointer frames, a handler marker after each protected
# call, string constants as string blocks, the entry routine at offset 0.
# vantor-pack turns the assembled object into a module image. It registers
# an application class and an exception class, prints through the runtime,
# and raises and catches exceptions through handler markers.

# Class record fields.
.equ CLASS_NAME, 8
.equ CLASS_INSTANCE_SIZE, 24
.equ CLASS_METHOD_COUNT, 56
.equ CLASS_EVENT_COUNT, 72
.equ CLASS_EVENTS, 80
.equ CLASS_PROPERTY_COUNT, 104
# Object and exception fields.
.equ OBJECT_CLASS, 8
.equ EXCEPTION_MESSAGE, 56
.equ EXCEPTION_STACK, 64
.equ ARRAY_METHODS, 8
.equ RUN_EVENT, 0

# A string block: count 1, buffer pointer (set by the loader), capacity,
# length, UTF-8, length byte, the text and a zero byte.
.macro zkstring label, text
  .p2align 3
\label:
  .long 1, 0
  .quad 0
  .long 2f - 1f + 2, 2f - 1f, 0x08000100
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

# A call with one argument.
.macro invoke function, argument
  movq \argument, %rdi
  call \function
.endm

# A frame with a cleared exception variable at -8 and a local at -16.
.macro handler_frame
  pushq %rbp
  movq %rsp, %rbp
  subq $16, %rsp
  movq $0, -8(%rbp)
.endm

# A handler that reports and releases the exception it receives, then clears
# the variable.
.macro report_handler after
  marker 0x411, -8, \after
  leaq -16(%rbp), %rsp
  invoke ReportAndRelease, -8(%rbp)
  movq $0, -8(%rbp)
.endm

.macro print label
  movl $\label, %edi
  call RuntimeConsolePrint
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
  movq %rax, AppObject
  movq %rax, %rdi
  xorl %esi, %esi
  call RuntimeRegisterConsoleAppObject
  call RuntimeRun
  marker 0x411, -8, .Lentry_end
  leaq -16(%rbp), %rsp
  invoke ReportCaught, -8(%rbp)
  invoke RuntimeUnhandledException, -8(%rbp)
  invoke RuntimeUnlockObject, -8(%rbp)
.Lentry_end:
  invoke RuntimeUnlockObject, AppObject
  call RuntimeExit
  movl %eax, ExitCode
  print ExitCodeText
  movl ExitCode, %edi
  call StringStrInt32
  movq %rax, -16(%rbp)
  invoke RuntimeConsolePrint, %rax
  invoke RuntimeUnlockString, -16(%rbp)
  leave
  ret

# App, a ConsoleApplication whose Run event is AppRun, and ModuleError, a
# RuntimeException.
  .type RegisterClasses, @function
RegisterClasses:
  pushq %rbp
  movq %rsp, %rbp
  pushq %rbx
  pushq %r12
  movl $ConsoleApplicationName, %edi
  movl $AppName, %esi
  call NewSubclass
  movq %rax, AppClass
  movq CLASS_EVENTS(%rax), %rax
  movl $AppRun, %ecx
  movq %rcx, RUN_EVENT * 16(%rax)
  movl $RuntimeExceptionName, %edi
  movl $ModuleErrorName, %esi
  call NewSubclass
  movq %rax, ErrorClass
  popq %r12
  popq %rbx
  popq %rbp
  ret

# NewSubclass(superName, name): a class of the name with the superclass's
# tables and instance size.
  .type NewSubclass, @function
NewSubclass:
  pushq %rbp
  movq %rsp, %rbp
  pushq %rbx
  pushq %r12
  movq %rsi, %r12
  call RuntimeLookupClass
  movq %rax, %rbx
  movq %rax, %rdi
  movl CLASS_METHOD_COUNT(%rbx), %esi
  xorl %edx, %edx
  movl CLASS_EVENT_COUNT(%rbx), %ecx
  xorl %r8d, %r8d
  movl CLASS_PROPERTY_COUNT(%rbx), %r9d
  call RuntimeNewClass
  movl CLASS_INSTANCE_SIZE(%rbx), %ecx
  movl %ecx, CLASS_INSTANCE_SIZE(%rax)
  movq %r12, CLASS_NAME(%rax)
  movq %rax, %rbx
  invoke RuntimeLockString, %r12
  movq %rbx, %rax
  popq %r12
  popq %rbx
  popq %rbp
  ret

# Run(app, args): prints and catches four exceptions; with a command-line
# argument it lets one pass instead.
  .type AppRun, @function
AppRun:
  handler_frame
  movq %rdi, -16(%rbp)
  movq %rsi, %rdi
  movl $1, %esi
  call RuntimeUBound2Param
  cmpl $2, %eax
  jge .Lrun_escape
  print Hello
  # A call through an absolute address (a mode 0 import).
  movl $ThroughAddress, %edi
  movl $RuntimeConsolePrint, %eax
  call *%rax

  # Raised in loaded code, passing Thrower's clean-up handler.
  call Thrower
  report_handler .Lrun_cast

.Lrun_cast:
  # Raised inside a runtime function, which returns first.
  movq -16(%rbp), %rdi
  movq ErrorClass, %rsi
  call RuntimeCheckCast
  report_handler .Lrun_block

.Lrun_block:
  # A complete protected block before the handler: its own handler is skipped.
  call RaiseNilObjectException
  block_marker 0x412
  marker 0x411, -8, .Lrun_block_end
  ud2
.Lrun_block_end:
  block_marker 0x413
  report_handler .Lrun_no_variable

.Lrun_no_variable:
  # A handler that takes no variable.
  call RaiseOutOfBoundsException
  marker 0x411, 0, .Lrun_end
  leaq -16(%rbp), %rsp
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
  marker 0x411, -8, .Lrun_cleaned
  leaq -16(%rbp), %rsp
  invoke RuntimeReraiseException, -8(%rbp)
  invoke RuntimeUnlockObject, -8(%rbp)
.Lrun_cleaned:
  xorl %eax, %eax
  leave
  ret

# Raises a ModuleError; its clean-up handler releases it and raises again.
  .type Thrower, @function
Thrower:
  handler_frame
  invoke RuntimeNewObject, ErrorClass
  movq %rax, -16(%rbp)
  movl $Thrown, %edi
  movq %rdi, EXCEPTION_MESSAGE(%rax)
  call RuntimeLockString
  invoke RuntimeRaiseException, -16(%rbp)
  marker 0x411, -8, .Lthrower_end
  leaq -16(%rbp), %rsp
  invoke RuntimeUnlockObject, -16(%rbp)
  movq $0, -16(%rbp)
  invoke RuntimeReraiseException, -8(%rbp)
  invoke RuntimeUnlockObject, -8(%rbp)
.Lthrower_end:
  invoke RuntimeUnlockObject, -16(%rbp)
  leave
  ret

# ReportAndRelease(exception): reports it, then releases it.
  .type ReportAndRelease, @function
ReportAndRelease:
  pushq %rbp
  movq %rsp, %rbp
  pushq %rbx
  subq $8, %rsp
  movq %rdi, %rbx
  call ReportCaught
  invoke RuntimeUnlockObject, %rbx
  movq -8(%rbp), %rbx
  leave
  ret

# ReportCaught(exception): "caught:", its class, its message, "stack:" and
# the functions it passed.
  .type ReportCaught, @function
ReportCaught:
  pushq %rbp
  movq %rsp, %rbp
  pushq %rbx
  pushq %r12
  pushq %r13
  pushq %r14
  pushq %r15
  subq $8, %rsp
  movq %rdi, %rbx
  print Caught
  movq OBJECT_CLASS(%rbx), %rax
  invoke RuntimeConsolePrint, CLASS_NAME(%rax)
  invoke RuntimeConsolePrint, EXCEPTION_MESSAGE(%rbx)
  print StackText
  movq EXCEPTION_STACK(%rbx), %r12
  movq %r12, %rdi
  movl $1, %esi
  call RuntimeUBound2Param
  movl %eax, %r13d
  xorl %r14d, %r14d
.Lreport_next:
  cmpl %r13d, %r14d
  jg .Lreport_end
  movq %r12, %rdi
  movl %r14d, %esi
  movq ARRAY_METHODS(%r12), %rax
  call *(%rax)
  movq %rax, %r15
  invoke RuntimeConsolePrint, %rax
  invoke RuntimeUnlockString, %r15
  incl %r14d
  jmp .Lreport_next
.Lreport_end:
  addq $8, %rsp
  popq %r15
  popq %r14
  popq %r13
  popq %r12
  popq %rbx
  popq %rbp
  ret

  .data
  .p2align 3
AppClass: .quad 0
ErrorClass: .quad 0
AppObject: .quad 0
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
